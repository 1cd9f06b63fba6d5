#include "app/DebugPage.h"

#include "app/PageWidgets.h"
#include "app/RichEditTrafficLog.h"
#include "device/DeviceTransport.h"
#include "platform/Anchors.h"

#include <QTextEdit>

DebugPage::DebugPage(DeviceTransport& transport, std::function<bool()> tabShown, QWidget* parent)
    : QWidget(parent), mTransport(transport) {
    setObjectName(QStringLiteral("DebugSheet"));
    resize(828, 501);
    auto* anchors = new AnchorLayout(this, size());
    mTxRxRichEdit = Named(new QTextEdit(this), "TxRxRichEdit");
    mTxRxRichEdit->setReadOnly(true);
    mTxRxRichEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont courier(QStringLiteral("Courier New"));
    courier.setStyleHint(QFont::Monospace);
    courier.setPointSize(8);
    mTxRxRichEdit->setFont(courier);
    anchors->Place(mTxRxRichEdit, QRect(0, 0, 828, 501), AnchorAll);
    mClearDebugButton = MakeButton(this, "ClearDebugButton", tr("&Clear"));
    anchors->Place(mClearDebugButton, QRect(730, 8, 75, 25), AnchorTop | AnchorRight);

    mTransport.SetTrafficLog(new RichEditTrafficLog(mTxRxRichEdit, std::move(tabShown)));
    connect(mClearDebugButton, &QPushButton::clicked, this, &DebugPage::ClearDebugButtonClick);
}

void DebugPage::ClearDebugButtonClick() {
    mTransport.ClearTrafficLog();
}

bool DebugPage::TrafficLogActive() const {
    return mTransport.TrafficLogActive();
}
