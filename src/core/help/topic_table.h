#pragma once
// The help, compiled into the program from data/help/topics/ at build time: topic numbers to
// topics. Forms' own contexts are aliases of their forms' topics.
#include <span>
#include <string_view>

#include "help/topic_markup.h"

namespace vx::help {

struct TopicSource {
    int number;
    std::string_view file;  // the source's file name, for messages
    std::string_view text;
};

// The compiled sources, ordered by number (generated at build time).
std::span<const TopicSource> topic_sources();

// The topic a number opens (an alias leads to its form's topic), parsed once; null when there
// is none.
const Topic* find_topic(int number);

// The number whose text `number` shows: itself, or the topic an alias stands for.
int resolve_topic(int number);

}  // namespace vx::help
