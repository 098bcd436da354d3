#pragma once

#include <QString>

// Files installed beside the client. They are found relative to the
// executable (bin/ → share/domvel-e-vadiv/), so an installation under any
// prefix, an unpacked package and the build tree all work alike.
namespace InstalledFiles {

// The client's data folder for an executable in `applicationDir`.
QString DataFolder(const QString &applicationDir);

// The cooperative's CA certificate built into this installation
// (DOMVEL_CA_CERT at configure time), or an empty text when there is none.
QString CooperativeCaFile(const QString &applicationDir);

} // namespace InstalledFiles
