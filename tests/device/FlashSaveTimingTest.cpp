#include "LinkFixture.h"

#include "device/CommandFraming.h"

// Writing the flash may keep the dialler silent for up to ten seconds per
// byte of its closing line.
TEST_F(LinkFixture, FlashSaveAllowsTenSecondsPerByteOfItsClosingLine) {
    DiallerLineBehaviour behaviour;
    behaviour.SlowLine = "Save Complete!\r";
    behaviour.SlowLineBytes = 1;
    behaviour.SlowLineByteDelayMs = 9000;
    dialler.SetBehaviour(behaviour);
    EXPECT_TRUE(SaveAllToFlash(transport));

    behaviour.SlowLineByteDelayMs = 11000;
    dialler.SetBehaviour(behaviour);
    EXPECT_FALSE(SaveAllToFlash(transport));
    EXPECT_TRUE(port.Connected());
}
