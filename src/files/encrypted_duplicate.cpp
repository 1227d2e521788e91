#include "files/encrypted_duplicate.h"

namespace zantrel {

EncryptedDuplicate::EncryptedDuplicate(Engine& engine) : engine_(engine) {}

void EncryptedDuplicate::WriteEncryptedDuplicate(const QByteArray&, const QByteArray&,
                                                 const QByteArray&) {}

QByteArray EncryptedDuplicate::DuplicateName(const QByteArray& chartPath) { return chartPath; }

} // namespace zantrel
