#include "platform/VersionInfoSource.h"

#include "platform/ProductInfo.h"
#include "platform/ProgramVersion.h"

std::optional<VersionInfo> ProgramVersionInfo::Read() const {
    return VersionInfo{QString::fromLatin1(ProgramVersion::FileVersion),
                       QString::fromLatin1(ProductInfo::CopyrightLine)};
}
