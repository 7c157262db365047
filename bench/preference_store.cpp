// The preference store's two costs the engine pays: a cached key read and a durable key write.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/CFPreferencesBackend.hpp"

namespace {

using velmora::CFPreferencesBackend;
using velmora::DefaultsKey;
using velmora::PreferenceStore;
using velmora::TweakValue;

constexpr int keysInDomain = 40;  // about what a real com.apple.dock holds

// A temporary home root holding one domain of `keysInDomain` keys; removed afterwards.
class BenchHome {
  public:
    BenchHome() {
        std::string pattern = std::filesystem::temp_directory_path() / "velmora-bench-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed");
        }
        root_ = pattern;
        backend = std::make_unique<CFPreferencesBackend>(std::make_shared<PreferenceStore>(root_));
        for (int i = 0; i < keysInDomain; ++i) {
            backend->write({"com.apple.dock", "key" + std::to_string(i)}, TweakValue::integer(i));
        }
    }
    ~BenchHome() {
        backend.reset();
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    BenchHome(const BenchHome&) = delete;
    BenchHome& operator=(const BenchHome&) = delete;

    std::unique_ptr<CFPreferencesBackend> backend;

  private:
    std::filesystem::path root_;
};

void cachedKeyRead(benchmark::State& state) {
    BenchHome home;
    const DefaultsKey key{"com.apple.dock", "key17"};
    for (auto _ : state) {
        benchmark::DoNotOptimize(home.backend->read(key));
    }
}
BENCHMARK(cachedKeyRead);

void durableKeyWrite(benchmark::State& state) {
    BenchHome home;
    const DefaultsKey key{"com.apple.dock", "tilesize"};
    std::int64_t size = 0;
    for (auto _ : state) {
        home.backend->write(key, TweakValue::integer(++size % 128));
    }
}
BENCHMARK(durableKeyWrite)->Unit(benchmark::kMillisecond);

}  // namespace
