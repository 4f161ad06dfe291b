// The names of the application's output and error files: a date and time
// pattern between "%" signs filled in, and the missing folders of the path made.
#pragma once

#include "os/Files.h"
#include "os/LocalTime.h"
#include "os/PathStyle.h"

#include <cstdint>
#include <string>

namespace tala {

// The text between the first and the last "%" (empty for a single "%") is
// formatted as time pictures and then as date pictures, after every "L" in it
// became the milliseconds; both "%" signs go. run_%yyyyMMdd_HHmmss_L%.txt at
// 14:05:09.042 on 3 May 2026 gives run_20260503_140509_42.txt.
std::u16string ExpandDateTimePattern(const std::u16string& name, const os::LocalTime& time);

// The folders a path needs, as the launcher sees and makes them.
class FolderSystem {
public:
    virtual ~FolderSystem() = default;
    virtual bool Exists(const std::u16string& path) const = 0;
    virtual os::FolderCreation Create(const std::u16string& path) = 0;
    virtual void RemoveIfEmpty(const std::u16string& path) = 0;
};

class SystemFolders final : public FolderSystem {
public:
    bool Exists(const std::u16string& path) const override { return os::PathExists(path); }
    os::FolderCreation Create(const std::u16string& path) override { return os::CreateFolder(path); }
    void RemoveIfEmpty(const std::u16string& path) override { os::RemoveEmptyFolder(path); }
};

// Creates the folders between a file path's first component (a drive, a
// server, the root, or the first folder of a relative path, which is taken
// for the root) and its file name. A failure ends the walk and removes the
// last folder reached again (if empty); on a network path the server and share
// levels cannot be made, so failures there are passed over. False when a
// folder could not be made.
bool EnsureParentFolders(const std::u16string& path, FolderSystem& folders,
                         os::PathStyle style = os::kHostPathStyle);

} // namespace tala
