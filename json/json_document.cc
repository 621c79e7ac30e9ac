#include "json/json_document.h"

#include <utility>

#include "json/native_reader.h"
#include "json/script_document.h"

namespace json {

JsonDocument::JsonDocument() : backing_(std::make_unique<NativeReader>()) {}

JsonDocument JsonDocument::WithScriptEngine() {
  return JsonDocument(std::make_unique<ScriptDocument>());
}

JsonDocument::JsonDocument(std::unique_ptr<JsonBacking> backing)
    : backing_(std::move(backing)) {}

JsonDocument::JsonDocument(JsonDocument&&) noexcept = default;
JsonDocument& JsonDocument::operator=(JsonDocument&&) noexcept = default;
JsonDocument::~JsonDocument() = default;

bool JsonDocument::Parse(const Text& text) {
  return backing_ && backing_->Parse(text);
}

Text JsonDocument::GetText(const Text& path, bool asJson) {
  return backing_ ? backing_->GetText(path, asJson) : Text();
}

int JsonDocument::TypeCode(const Text& path) {
  return backing_ ? backing_->TypeCode(path) : kJsonUnresolved;
}

double JsonDocument::GetNumber(const Text& path) {
  return backing_ ? backing_->GetNumber(path) : 0;
}

int JsonDocument::Count(const Text& path) {
  return backing_ ? backing_->Count(path) : 0;
}

void JsonDocument::Destroy() {
  if (backing_) backing_->Destroy();
}

JsonDocument JsonDocument::Copy() const {
  return JsonDocument(backing_ ? backing_->CopyBacking() : nullptr);
}

}  // namespace json
