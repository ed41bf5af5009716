#include "platform/MachineId.h"

#include <optional>

#include <QCryptographicHash>
#include <QDir>
#include <QSysInfo>

namespace {
std::optional<MachineId>& Chosen()
{
    static std::optional<MachineId> chosen;
    return chosen;
}

MachineId Computed()
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QSysInfo::machineUniqueId());
    hash.addData(QByteArrayView("\n"));
    hash.addData(QSysInfo::machineHostName().toUtf8());
    hash.addData(QByteArrayView("\n"));
    hash.addData(QDir::homePath().toUtf8());
    const QByteArray digest = hash.result();
    MachineId id;
    for (size_t i = 0; i < id.size(); ++i)
        id[i] = uint8_t(digest[qsizetype(i)]);
    if (id == MachineId {})
        id.back() = 1;
    return id;
}
} // namespace

MachineId ThisMachineId()
{
    if (!Chosen())
        Chosen() = Computed();
    return *Chosen();
}

QString MachineIdText(const MachineId& id)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(id.data()), qsizetype(id.size())).toHex());
}

void SetThisMachineId(const MachineId& id)
{
    if (id == MachineId {})
        Chosen().reset();
    else
        Chosen() = id;
}
