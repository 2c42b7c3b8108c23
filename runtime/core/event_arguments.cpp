#include "event_arguments.h"

#include <algorithm>

#include "kx/type_words.h"

namespace kx {

void AppendArgumentWords(const TypedEventArgument& argument, std::vector<Word>& words) {
    if (argument.flags & kTypedArgumentByReference) {
        words.push_back(argument.low);
        return;
    }
    if ((argument.flags & kTypedArgumentBothWords) ||
        argument.type == type_word::kCoreEightByteType) {
        words.push_back(argument.low);
        words.push_back(argument.high);
        return;
    }
    switch (argument.type) {
        case type_word::kByte:
            words.push_back(argument.low & 0xFF);
            break;
        case type_word::kShort:
            words.push_back(static_cast<Word>(static_cast<std::int32_t>(
                static_cast<std::int16_t>(argument.low & 0xFFFF))));
            break;
        case type_word::kLong:
        case type_word::kDouble:
        case type_word::kDateTime:
        case type_word::kEightBytes:
            words.push_back(argument.low);
            words.push_back(argument.high);
            break;
        default:
            words.push_back(argument.low);
            break;
    }
}

std::vector<Word> ArgumentWords(const TypedEventRecord& record) {
    std::vector<Word> words;
    const Word count = std::min(record.argumentCount, kMaxTypedEventArguments);
    for (Word i = 0; i < count; ++i) AppendArgumentWords(record.arguments[i], words);
    return words;
}

std::vector<Word> ArgumentWords(const EventRecord& record) {
    const Word count = std::min(record.argumentCount, kMaxEventArguments);
    return std::vector<Word>(record.arguments, record.arguments + count);
}

}  // namespace kx
