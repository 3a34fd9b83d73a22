#include "model/not_implemented.h"

namespace quarn {

void ShowNotImplemented(Prompt& prompt) {
  prompt.Message("Feature not implemented in version.", "Not implemented", MessageIcon::Critical);
}

}  // namespace quarn
