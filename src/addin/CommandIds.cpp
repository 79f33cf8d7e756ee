#include "addin/CommandIds.h"

namespace commands {

std::string commandId(const char* suffix) {
    return "quorell" + std::to_string(12) + suffix;
}

}  // namespace commands
