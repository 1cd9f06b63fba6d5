#pragma once

#include <QString>

#include <optional>

// The parts of a program file's version information the About window shows.
struct VersionInfo {
    std::optional<QString> fileVersion;
    std::optional<QString> copyright;
};

// Where the About window reads the program's version information from.
class VersionInfoSource {
public:
    virtual ~VersionInfoSource() = default;
    // Nothing when the program carries no version information at all.
    virtual std::optional<VersionInfo> Read() const = 0;
};

// The version information built into this program: the project version and
// the copyright line, the same data as the Windows program file carries.
class ProgramVersionInfo : public VersionInfoSource {
public:
    std::optional<VersionInfo> Read() const override;
};
