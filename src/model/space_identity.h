#pragma once

#include <string>

#include "platform/observable.h"
#include "platform/uuid.h"

namespace zemblo {

// What makes a space the same space in every window: its id, name, symbol and colours. Held once
// by the spaces model; each window's `Space` shows these very observables, so an edit reaches
// every window without being copied.
struct SpaceIdentity {
  SpaceIdentity(std::string name, std::string symbol, std::string colorA, std::string colorB,
                Uuid id = Uuid::random())
      : id(std::move(id)),
        name(std::move(name)),
        symbol(std::move(symbol)),
        colorA(std::move(colorA)),
        colorB(std::move(colorB)) {}

  const Uuid id;
  Observable<std::string> name;
  Observable<std::string> symbol;
  Observable<std::string> colorA;
  Observable<std::string> colorB;
};

}  // namespace zemblo
