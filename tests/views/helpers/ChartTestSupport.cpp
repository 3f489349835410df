#include "ChartTestSupport.h"

namespace charts_test {

ColumnSpy::ColumnSpy(BaseItem* item, int column)
{
    auto counter = count_;
    QObject::connect(item, &BaseItem::dataChanged, item, [counter, column](int c) {
        if (c == column)
            ++*counter;
    });
}

} // namespace charts_test
