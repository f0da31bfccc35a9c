# Precompiled headers: the Qt, standard and GoogleTest declarations the sources share are
# parsed once per kind of library instead of once per file. A widget-free library gets a
# widget-free header, since a bigger one slows its files down. The tests reuse the
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
# TESTGUI. The first target builds the header and the others reuse it: they are compiled with
# the same options, and a header that would not fit one of them is a -Winvalid-pch warning.
# Targets left out of the build are passed over.
function(viewer_precompile kind)
  cmake_parse_arguments(P "" "" "EXTRA" ${ARGN})
  if(NOT VIEWER_PCH)
    return()
  endif()
  set(first)
  foreach(target IN LISTS P_UNPARSED_ARGUMENTS)
    if(NOT TARGET ${target})
      continue()
    elseif(first)
      target_precompile_headers(${target} REUSE_FROM ${first})
    else()
      target_precompile_headers(${target} PRIVATE ${VIEWER_PCH_${kind}} ${P_EXTRA})
      set(first ${target})
    endif()
  endforeach()
endfunction()

# The programs reusing a header hold no classes for moc, so their moc file is empty: loading
# the header for it would cost more than half a second each.
function(viewer_reuse_precompiled target from)
  if(VIEWER_PCH AND TARGET ${from})
    target_precompile_headers(${target} REUSE_FROM ${from})
    get_target_property(dir ${target} BINARY_DIR)
    set_source_files_properties(${dir}/${target}_autogen/mocs_compilation.cpp
                                TARGET_DIRECTORY ${target} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
  endif()
endfunction()
