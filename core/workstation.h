#pragma once

#include <QString>

// The name this workstation goes by when the link tells one workstation what another did (who
// holds the export lock, who searched a kind of document). A host name alone does not tell two
// installations on one machine apart, nor two machines that share a name, so the name is the
// WORKSTATION key of Register.ini's [STORE] section when it is set, and otherwise the host name
// and the installation folder, as in "till-2:/srv/zantro".
QString WorkstationName();

// Only the WORKSTATION key of Register.ini's [STORE] section, trimmed; empty when it is not set.
QString ConfiguredWorkstationName();

// The Register.ini setting that names this workstation: section and key.
inline constexpr char kWorkstationSection[] = "STORE";
inline constexpr char kWorkstationKey[] = "WORKSTATION";
