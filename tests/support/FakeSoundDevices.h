#pragma once

#include "platform/SoundDevices.h"

#include <QByteArrayList>

#include <functional>
#include <memory>

// Sound devices for the voice page's tests: the input delivers what the test
// feeds it, playback only notes what it was given, and the Escape key is
// whatever the test says.
class FakeSoundDevices : public SoundDevices {
public:
    struct State {
        // What the next input's Start gives.
        SoundStartFault startFault = SoundStartFault::None;
        QString startReason;
        // Samples waiting to be read by the running input.
        QByteArray fed;
        // A read fails with this reason once `fed` is used up.
        QString stallReason;
        int inputsRunning = 0;
        int inputsStarted = 0;

        QByteArrayList played;
        QString playFault;
        // Runs while a sound "plays", so a test can look at the window then.
        std::function<void()> whilePlaying;

        bool escapeReadable = true;
        std::function<bool()> escapeHeld = [] { return false; };
        // Runs at every pause of a blocking loop.
        std::function<void()> onPause;
        int pauses = 0;
    };

    explicit FakeSoundDevices(std::shared_ptr<State> state) : mState(std::move(state)) {}

    bool PlayWav(const QByteArray& image, QString& reason) override {
        mState->played << QByteArray(image.constData(), image.size());
        if (mState->whilePlaying) {
            mState->whilePlaying();
        }
        reason = mState->playFault;
        return reason.isEmpty();
    }

    std::unique_ptr<SoundInput> CreateInput() override { return std::make_unique<Input>(mState); }

    bool CanReadEscapeKey(QString& reason) override {
        if (!mState->escapeReadable) {
            reason = QStringLiteral("no keyboard state here");
        }
        return mState->escapeReadable;
    }
    bool EscapeKeyHeld() override { return mState->escapeHeld(); }

    void PollPause() override {
        ++mState->pauses;
        if (mState->onPause) {
            mState->onPause();
        }
    }

private:
    class Input : public SoundInput {
    public:
        explicit Input(std::shared_ptr<State> state) : mState(std::move(state)) {}
        ~Input() override { Stop(); }

        SoundStartFault Start(QString& reason) override {
            reason = mState->startReason;
            if (mState->startFault == SoundStartFault::None) {
                mRunning = true;
                ++mState->inputsRunning;
                ++mState->inputsStarted;
            }
            return mState->startFault;
        }
        bool Read(QByteArray& samples, QString& reason) override {
            if (!mRunning) {
                return true;
            }
            samples += std::exchange(mState->fed, QByteArray());
            reason = mState->stallReason;
            return reason.isEmpty();
        }
        void Stop() override {
            if (mRunning) {
                mRunning = false;
                --mState->inputsRunning;
            }
        }

    private:
        std::shared_ptr<State> mState;
        bool mRunning = false;
    };

    std::shared_ptr<State> mState;
};
