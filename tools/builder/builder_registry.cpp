// Registry of the builder's outputs and the small helpers of its context.
#include "builder_output.h"

#include <iostream>

namespace builder {

namespace {
std::vector<Output>& outputs() {
    static std::vector<Output> list;
    return list;
}
} // namespace

void registerOutput(Output output) {
    outputs().push_back(std::move(output));
}

const std::vector<Output>& registeredOutputs() {
    return outputs();
}

std::string BuildContext::option(const std::string& key, const std::string& fallback) const {
    auto it = options.find(key);
    return it == options.end() ? fallback : it->second;
}

void BuildContext::progress(const std::string& message) const {
    std::cout << "  " << message << std::endl;
}

} // namespace builder
