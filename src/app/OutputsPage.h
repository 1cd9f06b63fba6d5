#pragma once

#include "settings/DiallerSettings.h"

#include <QWidget>

#include <array>

class CircleShape;
class DeviceSearch;
class DeviceSession;
class QPushButton;
class QScrollArea;

// The three controls of one output on the Outputs page.
struct OutputControlSet {
    QPushButton* OnButton = nullptr;
    QPushButton* OffButton = nullptr;
    CircleShape* Status = nullptr;
};

// The "Outputs" page: switches the dialler's two outputs and shows their
// state in a lamp each. For service staff it also holds Reflash, which writes
// the firmware image into the dialler through its bootloader.
class OutputsPage : public QWidget {
    Q_OBJECT
public:
    // `search` finds the bootloader once the dialler has restarted into it.
    OutputsPage(DeviceSession& session, DeviceSearch& search, QWidget* parent = nullptr);

    using OutputControlTable = std::array<OutputControlSet, SettingsLimits::OutputCount>;
    const OutputControlTable& OutputControls() const { return mOutputControls; }
    QScrollArea* OutputsScrollBox() const { return mOutputsScrollBox; }
    QWidget* OutputsScrollContent() const { return mOutputsScrollContent; }
    QPushButton* TestReflashButton() const { return mTestReflashButton; }

    void SetOutputButtonClick(QObject* sender);
    // Paints the output's lamp from a fresh status query.
    void ShowOutputState(int output);
    void RefreshOutputStates();
    void PaintOutputsUnknown();
    void TestReflashButtonClick();

private:
    void CreateOutputRow(int output);

    DeviceSession& mSession;
    DeviceSearch& mSearch;
    QScrollArea* mOutputsScrollBox;
    QWidget* mOutputsScrollContent;
    QPushButton* mTestReflashButton;
    OutputControlTable mOutputControls{};
};
