#pragma once

// Who makes the program and where its users find the latest version. The
// build reads the company name and copyright line from here as well, for the
// version information of the Windows program file, so they stay plain string
// constants, one per line.
namespace ProductInfo {

inline constexpr char CompanyName[] = "Ornex Alarm Systems Ltd";
inline constexpr char CopyrightLine[] = "Copyright (C) 2024 Ornex Alarm Systems Ltd";
// The web address as the About window shows it; its link opens it with
// "http://" in front.
inline constexpr char WebHost[] = "www.ornex.example";
inline constexpr char ProductName[] = "ORNEX Programming Software";
// The program's reverse-domain name under the maker's domain: the name of its
// desktop entry, icon and AppStream metadata, which the build reads from here.
inline constexpr char ApplicationId[] = "example.ornex.config";

} // namespace ProductInfo
