#include "engine/LiteralReader.h"

#include "engine/BlockTranslator.h"

namespace plotalon {

void TLiteralReader::Block(std::string_view line) {
    TranslateBlock(context_, line);
}

} // namespace plotalon
