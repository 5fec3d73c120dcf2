#pragma once

// The seam between the window and the search run. The run (search/) implements this; the
// window's "ﾂｰﾙ" commands and their enabling rules only call through it. Without a run
// object the three commands stay disabled.
namespace app {

class IRunCommands
{
public:
    virtual ~IRunCommands() = default;

    virtual bool CanStart() const = 0;  // "検索開始" (F5)
    virtual bool CanStop() const = 0;   // "検索中止" (Esc)
    virtual bool CanBrowse() const = 0; // "ﾌﾞﾗｳｻﾞで閲覧" (F6)
    // False while the run itself calls the plug-in away from the main thread (its merge), so
    // that the window makes no call of its own meanwhile (the query bar's "ｵﾌﾟｼｮﾝ").
    virtual bool CanCallPlugin() const { return true; }
    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual void Browse() = 0;
};

} // namespace app
