# Precompiled headers, one per library: the Qt, standard and GoogleTest declarations its
# sources share are parsed once per library instead of once per file. A widget-free library
# gets a widget-free header, since a bigger one slows its files down. The tests reuse the
# header of the test entry they link, so the 60-odd test programs add no headers of their own.
option(VIEWER_PCH "Precompile the headers each library shares" ON)
if(VIEWER_PCH)
  # A header that cannot be used is a warning, not a silent slow build.
  add_compile_options(-Winvalid-pch)
endif()

set(VIEWER_PCH_CORE
    <algorithm> <array> <cstdint> <functional> <map> <memory> <optional> <string> <vector>
    <QByteArray> <QDir> <QElapsedTimer> <QFile> <QFileInfo> <QObject> <QString> <QStringList>
    <QTimer>)
set(VIEWER_PCH_GUI ${VIEWER_PCH_CORE} <QColor> <QImage> <QPainter> <QRect>)
set(VIEWER_PCH_WIDGETS ${VIEWER_PCH_GUI}
    <QAction> <QApplication> <QBoxLayout> <QCheckBox> <QComboBox> <QDialog>
    <QDialogButtonBox> <QGridLayout> <QGroupBox> <QKeyEvent> <QLabel> <QLineEdit> <QMenu>
    <QMessageBox> <QPushButton> <QSpinBox> <QWidget>)
set(VIEWER_PCH_TESTCORE ${VIEWER_PCH_CORE} <gtest/gtest.h> <QCoreApplication> <QTemporaryDir>)
set(VIEWER_PCH_TESTGUI ${VIEWER_PCH_WIDGETS} <gtest/gtest.h> <QTemporaryDir>)

# viewer_precompile(KIND target... [EXTRA header...]): KIND is CORE, GUI, WIDGETS, TESTCORE or
# TESTGUI. Targets left out of the build are passed over.
function(viewer_precompile kind)
  cmake_parse_arguments(P "" "" "EXTRA" ${ARGN})
  if(NOT VIEWER_PCH)
    return()
  endif()
  foreach(target IN LISTS P_UNPARSED_ARGUMENTS)
    if(TARGET ${target})
      target_precompile_headers(${target} PRIVATE ${VIEWER_PCH_${kind}} ${P_EXTRA})
    endif()
  endforeach()
endfunction()

# viewer_reuse_precompiled(target from): the target compiles against from's header. The two
# must be built with the same definitions that the header's files look at.
function(viewer_reuse_precompiled target from)
  if(VIEWER_PCH AND TARGET ${from})
    target_precompile_headers(${target} REUSE_FROM ${from})
  endif()
endfunction()
