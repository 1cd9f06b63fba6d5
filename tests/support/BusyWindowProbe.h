#pragma once

#include "app/TMainForm.h"
#include "device/DeviceSession.h"
#include "support/DialogAnswerer.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

// What the window was doing while a message was up.
struct StateAtMessage {
    bool deviceBusy = false;
    bool hourglass = false;
    QString activity;
};

// Presses OK on a message and notes what `form` was doing meanwhile.
inline DialogAnswer PressOkNoting(const TMainForm& form, StateAtMessage& state) {
    return DialogAnswer::Act([&form, &state](QWidget* modal) {
        state.deviceBusy = form.Session()->DeviceBusy();
        const QCursor* cursor = QApplication::overrideCursor();
        state.hourglass = cursor != nullptr && cursor->shape() == Qt::WaitCursor;
        state.activity = form.StatusPanels()[0]->text();
        for (auto* button : modal->findChildren<QPushButton*>()) {
            if (button->text() == "OK") {
                button->click();
            }
        }
    });
}

// The window is itself again after an exchange: not busy, the normal cursor,
// no activity text.
inline void ExpectBusyStateRestored(const TMainForm& form) {
    EXPECT_FALSE(form.Session()->DeviceBusy());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(form.StatusPanels()[0]->text(), "");
}
