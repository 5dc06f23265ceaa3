#include "host/version_record.h"

std::string VersionText(std::uint32_t packedVersion) {
  return std::to_string((packedVersion >> 24) & 0xFF) + "." +
         std::to_string((packedVersion >> 16) & 0xFF);
}
