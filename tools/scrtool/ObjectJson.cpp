#include "ObjectJson.h"

#include <cmath>
#include <ostream>
#include <sstream>

#include "Json.h"
#include "base/AnsiText.h"
#include "objects/ObjectList.h"
#include "objects/TextObject.h"

namespace lumevra {

namespace {

void WriteValue(const ObjectKeyValue& v, std::ostream& out) {
  if (const auto* i = std::get_if<int64_t>(&v)) out << *i;
  else if (const auto* b = std::get_if<bool>(&v)) out << (*b ? "true" : "false");
  else if (const auto* d = std::get_if<double>(&v)) {
    if (std::isfinite(*d)) {
      std::ostringstream s;
      s.precision(17);
      s << *d;
      out << s.str();
    } else {
      out << "null";
    }
  } else {
    out << JsonString(AnsiToUtf8(std::get<std::string>(v)));
  }
}

void WriteObject(const AnimObject& o, std::ostream& out) {
  out << "{\"Index\": " << o.Index << ", \"ObjType\": " << JsonString(std::string(o.ObjType()));
  for (const auto& [key, value] : o.DescribeKeys()) {
    out << ", " << JsonString(AnsiToUtf8(key)) << ": ";
    WriteValue(value, out);
  }
  if (const std::string* file = o.PictureFile())
    out << ", \"FileName\": " << JsonString(AnsiToUtf8(*file));
  if (const auto* text = dynamic_cast<const TextObject*>(&o)) {
    out << ", \"Lines\": [";
    for (size_t i = 0; i < text->Lines.size(); ++i)
      out << (i ? ", " : "") << JsonString(AnsiToUtf8(text->Lines[i]));
    out << "]";
  }
  out << "}";
}

}  // namespace

void WriteObjectsJson(const ObjectList* objects, std::ostream& out) {
  out << "[";
  if (objects)
    for (size_t i = 0; i < objects->Count(); ++i) {
      out << (i ? ", " : "");
      WriteObject(objects->Items(i), out);
    }
  out << "]";
}

}  // namespace lumevra
