#pragma once

#include "settings/DiallerSettings.h"
#include "settings/UploadCommands.h"

#include <QString>

#include <array>

class DeviceTransport;

// The exchanges that write the settings into the dialler. Each command goes
// out with its echo checked, and its answer is read and checked before the
// next one leaves; the first failure ends the work. Commands the dialler has
// already accepted are not undone and nothing is retried.

// The dialler's firmware version as "ver;" reported it; 0.0 before any
// connection, which takes the old one-input "add," form.
struct FirmwareVersion {
    int Major = 0;
    int Minor = 0;
};

// "del,0,all;" and its "Success!".
bool DeleteAllContacts(DeviceTransport& link);
// The "add," command or commands of one contact in the form the firmware
// takes, each answered by "Success!". A contact that reports no input sends
// nothing and succeeds.
bool AddContact(DeviceTransport& link, const ContactEntry& contact, FirmwareVersion firmware);
// "mod,inp," with its echo line checked, then "name," with its echo line
// checked.
bool ModifyInput(DeviceTransport& link, int input, const InputSettings& settings);
// "pin,N,PIN;" and its "Success!".
bool SetPin(DeviceTransport& link, const QString& pin, PinNumber which);

// What an upload tells the user while it runs. The window shows progress in
// its status bar and failures in a "Command Error" message; the texts are the
// upload's own.
class UploadFeedback {
public:
    virtual ~UploadFeedback() = default;
    // The progress text; the empty text clears it.
    virtual void ShowActivity(const QString& text) = 0;
    virtual void ShowCommandError(const QString& text) = 0;
};

// One page of the settings each, with its progress text and, on failure, its
// message. The progress text is cleared at the end, after any message.
//
// The Admin PIN, then the User PIN; the User PIN is not sent when the Admin
// PIN fails.
bool SendPins(DeviceTransport& link, UploadFeedback& feedback, const QString& adminPin,
              const QString& userPin);
// "del,0,all;", then the used locations in list order. The "add," command
// carries no location, so the dialler holds them without gaps.
bool SendPhoneNumbers(DeviceTransport& link, UploadFeedback& feedback, const ContactList& contacts,
                      FirmwareVersion firmware);
// Inputs 1 to 8, each its "mod,inp," and its "name,".
bool SendInputSettings(DeviceTransport& link, UploadFeedback& feedback,
                       const std::array<InputSettings, SettingsLimits::InputCount>& inputs);

// "save all;" at the end of the scope's upload, with the scope's progress
// text and message.
bool SaveUploadToFlash(DeviceTransport& link, UploadFeedback& feedback, UploadScope scope);

// The whole work of one Send button: the scope's pages (All: PINs, phone
// numbers, input settings), and "save all;" exactly once, only when every
// command before it was accepted.
bool UploadSettings(DeviceTransport& link, UploadFeedback& feedback,
                    const DiallerSettings& settings, UploadScope scope, FirmwareVersion firmware);
