#pragma once

#include <QString>

class SettingsFile;

// The accounting link folder: LEDVORA_PATH of section GENERAL. The key's default is a folder on
// drive C:. A system without drive letters cannot have it, so there a missing key means the folder
// below the program folder that the preferences dialog stores (LedvoraFolderBelowProgram()).
QString AccountingLinkFolder(const SettingsFile& settings);

// The program folder followed by Db and Ledvora, with the system's separators.
QString LedvoraFolderBelowProgram();

// True when `folder` can only be a Windows folder here: it starts with a drive letter ("C:") or a
// network share ("\\server") on a system that has neither. Such a folder must never be made: it
// would be created under the working folder with the drive in its name.
bool NamesWindowsDrive(const QString& folder);

// Raises AppError "Cannot create " + `folder`, followed by why and where to set the accounting
// link folder, when NamesWindowsDrive(folder); `linkFolder` is the setting the folder comes from.
void RefuseWindowsDriveFolder(const QString& folder, const QString& linkFolder);
