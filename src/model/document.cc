#include "model/document.h"

#include "error/error.h"

namespace zarnex {

void document_destroy(DocumentPtr& document) { document.reset(); }

void document_complete(Document* document) {
  if (document != nullptr) document->complete();
}

int document_validate(const Document* document) {
  if (document == nullptr)
    return set_error(ErrorCode::kNullPointer, "Document cannot be null. ");
  return document->validate();
}

}  // namespace zarnex
