#include "shell/ViewRenderers.h"

#include "fieldviews/CombinedWindow.h"
#include "fieldviews/ParallelPlotWindow.h"
#include "fieldviews/ScatterPlotWindow.h"
#include "views/BinaryRainfallWindow.h"
#include "views/ByteFrequencyWindow.h"
#include "views/DetailWindow.h"
#include "views/TextRainfallWindow.h"

namespace pelsid {

ViewRenderers::ViewRenderers(Thumbnails& thumbnails, AxisStore& axes)
    : thumbnails_(thumbnails), axes_(axes) {}

ViewRenderers::~ViewRenderers() = default;

QString ViewRenderers::windowName(int index) {
    return QStringLiteral("frmVis%1").arg(index + 1);
}

int ViewRenderers::indexOf(const QString& windowName) {
    for (int i = 0; i < ViewSet::kViewCount; ++i)
        if (windowName == ViewRenderers::windowName(i)) return i;
    return -1;
}

ViewRenderer& ViewRenderers::at(int index) {
    std::unique_ptr<ViewRenderer>& v = views_[std::size_t(index)];
    if (v) return *v;
    switch (index) {
        case 0:
            v = std::make_unique<TextRainfallRenderer>(thumbnails_);
            break;
        case 1:
            v = std::make_unique<ByteFrequencyRenderer>(thumbnails_);
            break;
        case 2:
            v = std::make_unique<ParallelPlotRenderer>(thumbnails_, axes_);
            break;
        case 3:
            v = std::make_unique<BinaryRainfallRenderer>(thumbnails_);
            break;
        case 4:
            v = std::make_unique<ScatterPlotRenderer>(thumbnails_, axes_);
            break;
        case 5:
            v = std::make_unique<CombinedRenderer>(thumbnails_, axes_);
            break;
        default:
            v = std::make_unique<DetailRenderer>(thumbnails_);
            break;
    }
    return *v;
}

ViewWindow* ViewRenderers::makeWindow(int index, ViewContext& context) {
    ViewRenderer& r = at(index);
    switch (index) {
        case 0:
            return new TextRainfallWindow(context, static_cast<TextRainfallRenderer&>(r));
        case 1:
            return new ByteFrequencyWindow(context, static_cast<ByteFrequencyRenderer&>(r));
        case 2:
            return new ParallelPlotWindow(context, static_cast<ParallelPlotRenderer&>(r));
        case 3:
            return new BinaryRainfallWindow(context, static_cast<BinaryRainfallRenderer&>(r));
        case 4:
            return new ScatterPlotWindow(context, static_cast<ScatterPlotRenderer&>(r));
        case 5:
            return new CombinedWindow(context, static_cast<CombinedRenderer&>(r));
        default:
            return new DetailWindow(context, static_cast<DetailRenderer&>(r));
    }
}

}  // namespace pelsid
