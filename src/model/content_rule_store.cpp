#include "model/content_rule_store.h"

namespace zemblo {

std::shared_ptr<ContentRuleStore> contentRuleStoreOf(WebViewFactory* factory) {
  auto* provider = dynamic_cast<ContentRuleStoreProvider*>(factory);
  return provider ? provider->contentRuleStore() : nullptr;
}

}  // namespace zemblo
