#!/usr/bin/env bash
# The core reports and the windows show: no core source may reach a widget, a window's form
# or the message boxes, and the core library may not link Qt Widgets.
set -uo pipefail
src=$1
found=$(grep -rnE '#include *[<"]((QtWidgets|QtGui)/|Q(Widget|Dialog|MessageBox|Label|PushButton|LineEdit|ComboBox|ListWidget|Application|Action|Menu)[>"]|widgets/|ui_)|Messages::|ErrorBox::' \
    "$src/core")
if [ -n "$found" ]; then
    echo "The core reaches the window layer:"
    echo "$found"
    exit 1
fi
core_links=$(sed -n '/target_link_libraries(marivane_core/,/)/p' "$src/CMakeLists.txt")
if grep -q 'Widgets\|marivane_gui' <<<"$core_links"; then
    echo "marivane_core links the window layer: $core_links"
    exit 1
fi
echo "the core includes no window code"
