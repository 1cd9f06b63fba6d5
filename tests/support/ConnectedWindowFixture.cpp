#include "support/ConnectedWindowFixture.h"
#include "device/DeviceSession.h"

#include <QLabel>
#include <QTest>

ConnectedWindowFixture::ConnectedWindowFixture() : port(UniqueTtyName(dialler.PortName())) {
    devices.AddDialler(port, dialler.PortName());
}

void ConnectedWindowFixture::SetUp() {
    StartWindow();
    ASSERT_TRUE(WaitForConnection()) << "status: " << Status().toStdString();
}

void ConnectedWindowFixture::StartWindow() {
    form = std::make_unique<TMainForm>(devices.Search());
}

bool ConnectedWindowFixture::WaitForConnection(int timeoutMs) {
    return QTest::qWaitFor(
        [this] {
            return form->Session()->DeviceConnected() &&
                   Status().endsWith(QStringLiteral(" - connected"));
        },
        timeoutMs);
}

bool ConnectedWindowFixture::WaitForStatus(const QString& text, int timeoutMs) {
    return QTest::qWaitFor([&] { return Status() == text; }, timeoutMs);
}

QString ConnectedWindowFixture::Status() const {
    return form ? form->StatusPanels()[1]->text() : QString();
}

QString ConnectedWindowFixture::ConnectedText(const QString& modelAndVersion) const {
    return modelAndVersion + QStringLiteral(" on ") + port + QStringLiteral(" - connected");
}
