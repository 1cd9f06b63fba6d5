#include "app/DeviceExchange.h"

#include "app/TMainForm.h"
#include "platform/PendingInput.h"

#include <QApplication>
#include <QCursor>

DeviceExchange::DeviceExchange(TMainForm& form) : mForm(form), mWasBusy(form.DeviceBusy) {}

DeviceExchange::~DeviceExchange() {
    mForm.ShowActivity(QString());
    DiscardPendingInput();
    if (mBegun) {
        QApplication::restoreOverrideCursor();
    }
    mForm.DeviceBusy = mWasBusy;
}

void DeviceExchange::Begin() {
    mForm.DeviceBusy = true;
    if (!mBegun) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        mBegun = true;
    }
}
