// What the Jet reader program sends back: whatever a damaged or dying reader writes, the
// program either decodes a whole, consistent reply or refuses it; it never reads past the
// reply or reserves memory the reply does not back.
#include "files/jet_reader_client.h"
#include "fuzz_support.h"
#include "jet_reader/jet_reply.h"

using namespace quarn;  // NOLINT

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view reply(reinterpret_cast<const char*>(data), size);
  const auto list = DecodeJetTableList(reply);
  fuzz::Require(!(list.value && !list.refusal.empty()), "a table list both read and refused");
  const auto table = DecodeJetTable(reply);
  if (!table.value) return 0;
  fuzz::Require(!table.value->columns.empty(), "a table without columns was read");
  for (const auto& row : table.value->rows) {
    fuzz::Require(row.size() == table.value->columns.size(), "a row of the wrong width");
  }
  return 0;
}
