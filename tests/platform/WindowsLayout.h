#pragma once

// Forced ahead of every file of the Windows port test (-include). The Qt and
// standard headers that the port's files use come first, as on Linux; then
// _WIN32 makes ComPort.h declare its Windows members, and WindowsComPort.cpp
// finds the stand-in windows.h of fakewin32/.

#include <QByteArray>
#include <QObject>
#include <QSerialPortInfo>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#define _WIN32 1
