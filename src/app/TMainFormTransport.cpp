#include "app/TMainForm.h"

#include "device/DeviceTransport.h"
#include "platform/ComPort.h"
#include "platform/PendingInput.h"
#include "platform/RichEditTrafficLog.h"

#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

void TMainForm::WireTransport() {
    ComPort = new ::ComPort(this);
    ComPort->setObjectName(QStringLiteral("ComPort"));
    Transport = new DeviceTransport(*ComPort, this);
    Transport->setObjectName(QStringLiteral("Transport"));
    // The log counts as shown while the Debug page's tab is, whichever page
    // is in front.
    Transport->SetTrafficLog(new RichEditTrafficLog(TxRxRichEdit, [this] {
        return PageControl->isTabVisible(PageControl->indexOf(DebugSheet));
    }));

    connect(ClearDebugButton, &QPushButton::clicked, this, &TMainForm::ClearDebugButtonClick);
    connect(Transport, &DeviceTransport::PortCheckRestartRequested, this,
            &TMainForm::RestartPortCheck);
    connect(Transport, &DeviceTransport::PendingInputDiscardRequested, this,
            [] { DiscardPendingInput(); });
}

void TMainForm::ClearDebugButtonClick() {
    Transport->ClearTrafficLog();
}

void TMainForm::RestartPortCheck() {
    CheckPortTimer->stop();
    CheckPortTimer->setInterval(1);
    CheckPortTimer->start();
}

bool TMainForm::TrafficLogActive() const {
    return Transport->TrafficLogActive();
}
