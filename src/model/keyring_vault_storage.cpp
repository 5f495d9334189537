#include "model/keyring_vault_storage.h"

#include "model/localization.h"

namespace zemblo {

KeyringVaultStorage::KeyringVaultStorage()
    : item_({.schema = kService,
             .attributes = {{"service", kService}, {"account", kAccount}},
             .label = kLabel,
             .collectionLabel = localized("Varsayılan anahtarlık")}) {}

void KeyringVaultStorage::read(std::function<void(ReadResult)> done) {
  item_.read([done = std::move(done)](KeyringItem::ReadResult result) {
    ReadStatus status = ReadStatus::failed;
    if (result.status == KeyringItem::ReadStatus::found) status = ReadStatus::found;
    if (result.status == KeyringItem::ReadStatus::notFound) status = ReadStatus::notFound;
    done({status, std::move(result.data), std::move(result.error)});
  });
}

void KeyringVaultStorage::write(std::string data,
                                std::function<void(bool, const std::string&)> done) {
  item_.write(std::move(data), std::move(done));
}

}  // namespace zemblo
