#include "output.h"

namespace {

const size_t kConsolePiece = 8u << 10;
const size_t kFilePiece = 16u << 20;

}  // namespace

size_t OutputPieceSize(bool characterDevice) {
  return characterDevice ? kConsolePiece : kFilePiece;
}
