#include "runtime/type_code.h"

namespace runtime {

int32_t PayloadSize(TypeCode code) {
  switch (code) {
    case kByte: return 1;
    case kShort: return 2;
    case kInt:
    case kFloat:
    case kLogical: return 4;
    case kLong:
    case kDouble:
    case kDateTime:
    case kSubStatement: return 8;
    case kText:
    case kByteSet:
    case kRoutine: return static_cast<int32_t>(sizeof(void*));
    default: return 0;
  }
}

}  // namespace runtime
