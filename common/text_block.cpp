#include "text_block.h"

#include <cstdio>
#include <cstring>
#include <new>

std::string FormatBlockName(uint32_t window) {
  char name[sizeof(TEXT_BLOCK_PREFIX) + 10];
  snprintf(name, sizeof name, "%s%lu", TEXT_BLOCK_PREFIX, static_cast<unsigned long>(window));
  return name;
}

bool GetBlockSize(uint64_t length, uint32_t *size) {
  if (length >= UINT32_MAX) return false;
  *size = static_cast<uint32_t>(length + 1);
  return true;
}

size_t MeasureBlockText(const char *block, size_t size) {
  if (size == 0) return 0;
  const void *nul = memchr(block, '\0', size);
  return nul ? static_cast<size_t>(static_cast<const char *>(nul) - block) : size;
}

void ReserveTextRoom(std::string &text, uint64_t size) {
  if (size > text.max_size()) return;
  try {
    text.reserve(static_cast<size_t>(size));
  } catch (const std::bad_alloc &) {
  }
}
