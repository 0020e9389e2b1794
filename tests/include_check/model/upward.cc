// A model/ file that reaches up into validate/: the folder check must refuse
// its second include and accept the first and third
// (FolderIncludes.RefusesAnUpwardInclude).
#include "model/document.h"
#include "validate/document_rules.h"
#include "error/error.h"
