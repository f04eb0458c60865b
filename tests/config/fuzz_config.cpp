// libFuzzer target for the item reader, the catalogue reader and the
// configuration reader. Besides crashes and sanitizer reports it checks the
// writer's promise: a file written from what was read reads back to the very
// same file.
#include "catalogue/Catalogue.h"
#include "catalogue/ItemReader.h"
#include "config/ConfigReader.h"
#include "config/ConfigWriter.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace stormtap;

namespace {

// Sites whose names differ in their first ten characters, so that every entry
// written leads back to its own site.
const State &catalogue()
{
    static const State state = [] {
        State s;
        const char *lines[] = {"KAAA Albany, NY", "KBBB Boston, MA", "KCCC Chicago, IL"};
        for (int i = 0; i < 3; ++i) {
            s.Sites[i].DisplayLine = QLatin1String(lines[i]);
            s.Sites[i].ImagePath = QLatin1String(lines[i]).left(4);
        }
        s.LastSiteIndex = 2;
        return s;
    }();
    return state;
}

QByteArray written(const State &state)
{
    const Settings &s = state.settings;
    return configBytes({s.Server, QString::number(s.Port), s.UserName, s.Password, s.ImageDirectory}, s.Port, state);
}

void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_config: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    ItemReader reader(bytes);
    size_t items = 0;
    while (reader.next()) {
        if (++items > size + 1)
            fail("the item reader does not move on");
    }

    auto sites = std::make_unique<State>();
    readCatalogue(bytes, *sites);

    const auto empty = std::make_unique<State>();
    parseConfig(bytes, *empty, 1);

    auto state = std::make_unique<State>(catalogue());
    const LoadedConfig config = parseConfig(bytes, *state, 7);
    if (!config.ok())
        return 0;
    applyConfig(config, *state);

    const QByteArray first = written(*state);
    const Settings before = state->settings;
    const LoadedConfig again = parseConfig(first, *state, 7);
    if (!again.ok())
        fail("a written file does not read back");
    applyConfig(again, *state);
    const Settings &after = state->settings;
    if (after.Server != before.Server || after.UserName != before.UserName || after.Password != before.Password ||
        after.ImageDirectory != before.ImageDirectory)
        fail("a text changed on its way through the file");
    if (written(*state) != first)
        fail("a written file, read and written again, differs");
    return 0;
}
