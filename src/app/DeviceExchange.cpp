#include "app/DeviceExchange.h"

#include "device/DeviceSession.h"
#include "platform/PendingInput.h"

#include <QApplication>
#include <QCursor>

DeviceExchange::DeviceExchange(DeviceSession& session)
    : mSession(session), mWasBusy(session.DeviceBusy()) {}

DeviceExchange::~DeviceExchange() {
    mSession.ShowActivity(QString());
    DiscardPendingInput();
    if (mBegun) {
        QApplication::restoreOverrideCursor();
    }
    mSession.SetDeviceBusy(mWasBusy);
}

void DeviceExchange::Begin() {
    mSession.SetDeviceBusy(true);
    if (!mBegun) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        mBegun = true;
    }
}
