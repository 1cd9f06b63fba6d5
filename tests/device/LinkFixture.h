#pragma once

#include "DiallerPtyServer.h"
#include "MemoryTrafficLog.h"
#include "device/DeviceTransport.h"
#include "platform/ComPort.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

// The real transport on a real pseudo-terminal, with the simulated dialler
// on the other side and the traffic log in memory.
class LinkFixture : public ::testing::Test {
protected:
    LinkFixture() {
        port.SetPort(dialler.PortName());
        port.Open();
        transport.SetTrafficLog(&log);
        QObject::connect(&transport, &DeviceTransport::PortCheckRestartRequested,
                         [this] { ++portCheckRestarts; });
    }

    // Waits until at least `count` bytes wait in the port.
    bool WaitUntilWaiting(qint64 count, int timeoutMs = 5000) {
        QElapsedTimer timer;
        timer.start();
        while (port.InputCount() < count) {
            if (timer.elapsed() > timeoutMs) {
                return false;
            }
            port.WaitForInput(50);
        }
        return true;
    }

    QByteArray Read(quint32 count, qint32 timeoutMs = 1000) {
        QByteArray bytes(count, '\0');
        bytes.resize(transport.ReadFromDevice(bytes.data(), count, timeoutMs));
        return bytes;
    }

    DiallerPtyServer dialler;
    ComPort port;
    DeviceTransport transport{port};
    MemoryTrafficLog log;
    int portCheckRestarts = 0;
};
