#include "engine/LiteralReader.h"

#include "engine/BlockTranslator.h"

namespace plotalon {

void TLiteralReader::Block(std::string_view line) {
    TranslateBlock(Context, line);
}

} // namespace plotalon
