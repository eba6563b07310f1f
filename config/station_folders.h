#pragma once

#include <QString>
#include <QStringList>

class SettingsFile;

// The folders of the station with store code `storeCode` under the accounting link folder and the
// account type, in the order they are made, each a full path ending with a separator:
// for ACCPAC first <path>/ACCPAC/Received/ and <path>/ACCPAC/Updated/, then for every type
// <path>/<type>/Out/<store>/Process/ and <path>/<type>/Out/<store>/Resume/.
QStringList StationFolders(const QString& ledvoraPath, const QString& accountType,
                           const QString& storeCode);

// Makes the station's folders that are missing, with all missing parents, for the folder and
// type the settings hold. Raises AppError "Cannot create " + the folder's full path when one
// cannot be made; the folders made before it stay. A folder on a Windows drive is refused before
// anything is made, on a system without drive letters (RefuseWindowsDriveFolder).
void CreateStationFolders(const SettingsFile& settings, const QString& storeCode);
