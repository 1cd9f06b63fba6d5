#pragma once

#include "DiallerPtyServer.h"
#include "app/TMainForm.h"
#include "support/FakeDeviceTree.h"

#include <QString>

#include <memory>

#include <gtest/gtest.h>

// A main window connected to a simulated dialler, the way the program finds
// a real one: the dialler's pseudo-terminal is plugged into a fake device
// tree as a USB port with the dialler's identity, the window searches that
// tree, and SetUp waits (up to ten seconds) until the window's status bar
// reports the connection. Link the test with `ornex_window_test_support`.
//
//     class SettingsDownload : public ConnectedWindowFixture {};
//
//     TEST_F(SettingsDownload, Example) {
//         dialler.SetSettings(someSettings);     // the simulated dialler
//         DialogAnswerer answerer({});           // if dialogs may show
//         form->GetAllButton()->click();           // the real window
//         EXPECT_EQ(form->Settings().Read(), someSettings);
//         EXPECT_TRUE(dialler.ReceivedCommands().contains("dnld all;"));
//     }
//
// The simulated dialler answers as firmware 3.25 on hardware variant 1 does,
// so no firmware warning shows. To connect to a dialler set up otherwise,
// override SetUp, set up `dialler` and then call StartWindow() and
// WaitForConnection() yourself; or leave them out to test the window before
// it finds anything.
//
// The supervisor keeps running: once a second it searches the tree, and
// while the Outputs page is shown it asks the dialler for both outputs'
// states. `dialler.ClearReceivedCommands()` after SetUp drops the "ver;" of
// the connection. The window is not shown; call form->show() when a test
// needs it on screen.
class ConnectedWindowFixture : public ::testing::Test {
protected:
    static constexpr int ConnectTimeoutMs = 10000;

    ConnectedWindowFixture();

    void SetUp() override;

    // Makes the window over the fake tree; its first search runs 100 ms later.
    void StartWindow();
    // Processes events until the window reports the dialler connected.
    bool WaitForConnection(int timeoutMs = ConnectTimeoutMs);
    // Processes events until status panel 1 shows `text`.
    bool WaitForStatus(const QString& text, int timeoutMs = ConnectTimeoutMs);
    // What status panel 1 shows.
    QString Status() const;
    // Panel 1's text for the dialler connected as the model and version
    // given; the default is what the simulated dialler reports unless told
    // otherwise.
    QString ConnectedText(const QString& modelAndVersion = QStringLiteral("ORNEX-3G v3.25")) const;

    DiallerPtyServer dialler;
    FakeDeviceTree devices;
    // The dialler's port as the window names it, e.g. "ttyACM7".
    const QString port;
    std::unique_ptr<TMainForm> form;
};
