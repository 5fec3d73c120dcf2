#include "app/options/option_page.h"

namespace options {

COptionPage::COptionPage(const QString& caption, const config::Config& config)
    : m_strCaption(caption)
    , m_config(config)
{}

void COptionPage::EnsureLoaded()
{
    if (m_bLoaded)
        return;
    m_bLoaded = true;
    Load();
}

} // namespace options
