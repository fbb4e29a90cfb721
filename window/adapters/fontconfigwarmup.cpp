#include "window/adapters/fontconfigwarmup.h"

#include <fontconfig/fontconfig.h>

namespace prismel {

FontConfigWarmUp::FontConfigWarmUp() : m_reader([] { FcInit(); }) {}

FontConfigWarmUp::~FontConfigWarmUp()
{
    finish();
}

void FontConfigWarmUp::finish()
{
    if (m_reader.joinable())
        m_reader.join();
}

} // namespace prismel
