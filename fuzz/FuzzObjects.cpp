// An objects text: at most the sections Obj0..Obj100 make objects, and
// what they save loads again into the same kinds.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "objects/AnimObject.h"
#include "objects/ObjectList.h"

using namespace lumevra;

namespace {

std::vector<std::string> Kinds(ObjectList& list) {
  std::vector<std::string> kinds;
  for (size_t i = 0; i < list.Count(); ++i) kinds.emplace_back(list.Items(i).ObjType());
  return kinds;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ObjectList list;
  list.LoadObjects(std::string(fuzz::AsText(data, size)));
  fuzz::Require(list.Count() <= static_cast<size_t>(kLastObjectSection) + 1, "more objects than sections");
  std::string saved;
  for (size_t i = 0; i < list.Count(); ++i) {
    list.Items(i).DescribeKeys();
    saved += list.Items(i).SaveToText();
  }
  ObjectList again;
  again.LoadObjects(saved);
  fuzz::Require(Kinds(again) == Kinds(list), "saved objects load as other kinds");
  return 0;
}
