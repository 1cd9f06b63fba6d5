#pragma once

#include <QWidget>

#include <functional>

class DeviceTransport;
class QPushButton;
class QTextEdit;

// The "Debug" page: every byte to and from the dialler, sent in blue and
// received in red, written only while the page's tab is shown.
class DebugPage : public QWidget {
    Q_OBJECT
public:
    // The page's log becomes `transport`'s; `tabShown` tells whether the
    // page's tab is shown, whichever page is in front.
    DebugPage(DeviceTransport& transport, std::function<bool()> tabShown,
              QWidget* parent = nullptr);

    QTextEdit* TxRxRichEdit() const { return mTxRxRichEdit; }
    QPushButton* ClearDebugButton() const { return mClearDebugButton; }

    void ClearDebugButtonClick();
    bool TrafficLogActive() const;

private:
    DeviceTransport& mTransport;
    QTextEdit* mTxRxRichEdit;
    QPushButton* mClearDebugButton;
};
