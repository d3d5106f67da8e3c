// The engine folder is where the elevated updater loads code from: ordinary
// users must not be able to put files into it.
#pragma once

#include <string>

namespace velko::bootstrap {

// Makes `folder` a local folder (missing parents created normally) that
// only SYSTEM and the Administrators may write into: created with that
// security descriptor, or given it (owner included, inheritance from the
// user's folders above cut) when it exists without it already. False when
// the system refuses either, or a component of the path is a reparse point.
bool SecureEngineFolder(const std::wstring& folder);

// The folder's owner and every write-granting entry of its DACL belong to
// SYSTEM or the Administrators, as the system reports them now.
bool FolderDescriptorAllowsOnlyAdministrators(const std::wstring& folder);

}  // namespace velko::bootstrap
