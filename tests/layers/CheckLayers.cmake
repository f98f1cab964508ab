# Checks the #include lines of a source tree against the layer rules.
#
#   cmake -DSOURCE_DIR=<src> -P CheckLayers.cmake
#       Fails listing every offending include as "file:line: reason" (paths relative to SOURCE_DIR).
#
#   cmake -DSOURCE_DIR=<tree> -DEXPECT_FILE=<list> -P CheckLayers.cmake
#       Succeeds only when the violations found are exactly the lines of EXPECT_FILE. Used on a
#       deliberately broken tree, so a checker that silently stops seeing a rule fails the build
#       instead of passing it.
#
# Only CMake is needed, so the check runs anywhere the project configures.
cmake_minimum_required(VERSION 3.25)

# --- The rules -----------------------------------------------------------------------------------

# Layer folders directly below SOURCE_DIR and the project layers each one may include.
set(LAYERS core data calc roi analysis session colour render3d report ui cli python)
set(MAY_INCLUDE_core     core)
set(MAY_INCLUDE_data     core data)
set(MAY_INCLUDE_calc     core data calc)
set(MAY_INCLUDE_roi      core data roi)
set(MAY_INCLUDE_analysis core data analysis)
set(MAY_INCLUDE_session  core data calc roi analysis session)
set(MAY_INCLUDE_colour   core data colour)
set(MAY_INCLUDE_render3d core data colour render3d)
set(MAY_INCLUDE_report   core data calc roi analysis colour report)
set(MAY_INCLUDE_ui       core data calc roi analysis session colour render3d report ui)
set(MAY_INCLUDE_cli      core data calc roi analysis session colour render3d report cli)
set(MAY_INCLUDE_python   core data calc roi analysis session colour python)

# These layers are built and tested without Qt.
set(QT_FREE_LAYERS core data calc roi analysis session)
set(QT_HEADER_REGEX "^(Q[A-Z]|Qt)")

# Widgets only in ui. Extend this list when a new widget class is used anywhere; the module paths
# below catch the <QtWidgets/...> spellings on their own.
set(WIDGETS_LAYER ui)
set(WIDGETS_HEADERS
  QWidget QApplication QMainWindow QDialog QMessageBox QFileDialog QColorDialog QInputDialog
  QProgressDialog QDialogButtonBox
  QLabel QPushButton QToolButton QAbstractButton QCheckBox QRadioButton QButtonGroup QComboBox
  QGroupBox QFrame QSlider QScrollBar QLineEdit QSpinBox QDoubleSpinBox QTextEdit QPlainTextEdit
  QProgressBar QStatusBar QToolBar QMenu QMenuBar QToolTip QSplitter QScrollArea QTabWidget
  QStackedWidget QDockWidget
  QTableView QTableWidget QListView QListWidget QTreeView QTreeWidget QHeaderView QAbstractItemView
  QStyledItemDelegate QGraphicsView QGraphicsScene
  QLayout QBoxLayout QVBoxLayout QHBoxLayout QGridLayout QFormLayout QSpacerItem QSizePolicy
  QStyle QStyleOption
  QOpenGLWidget)
set(WIDGETS_MODULE_REGEX "^(QtWidgets|QtOpenGLWidgets)(/|$)")
# Qt Charts draws through a graphics scene: the report layer renders its charts into pages with one
# and makes the QApplication a scene needs where a program has none; it uses no other widget.
set(CHART_SCENE_LAYER report)
set(CHART_SCENE_HEADERS QGraphicsScene QApplication)
# Raw OpenGL only in render3d. <QOpenGLWidget> is a widget and is handled by the widget rule.
set(OPENGL_LAYER render3d)
set(OPENGL_HEADER_REGEX "^(GL/|QOpenGL|qopengl|QtOpenGL(/|$))")

# --- Scanning ------------------------------------------------------------------------------------

if(NOT DEFINED SOURCE_DIR OR NOT IS_DIRECTORY "${SOURCE_DIR}")
  message(FATAL_ERROR "layer rules: SOURCE_DIR must name a directory (got '${SOURCE_DIR}')")
endif()

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
list(LENGTH sources file_count)
# A mistyped SOURCE_DIR must not pass as a clean tree.
if(file_count EQUAL 0)
  message(FATAL_ERROR "layer rules: no .h or .cpp files below '${SOURCE_DIR}'")
endif()

# Reads a text file as a CMake list of its lines, so the list index is the line number.
# Characters that CMake treats specially inside lists (';', '\', '[', ']') would merge or
# split lines and shift every line number after them; none of them can matter for an include
# path or a violation text, so they are neutralised first.
function(read_lines path out_var)
  file(READ "${path}" text)
  string(REPLACE "\r" "" text "${text}")
  string(REPLACE "\\" "/" text "${text}")
  string(REPLACE ";" "," text "${text}")
  string(REPLACE "[" "(" text "${text}")
  string(REPLACE "]" ")" text "${text}")
  string(REPLACE "\n" ";" text "${text}")
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

set(ws "[ \t]")
set(include_regex "^${ws}*#${ws}*include${ws}*(<([^>]*)>|\"([^\"]*)\")")

set(violations "")
set(include_count 0)

foreach(file IN LISTS sources)
  string(REGEX MATCH "^[^/]*" layer "${file}")
  if(file STREQUAL layer)
    list(APPEND violations "${file}:1: file lies outside every layer folder")
    set(layer "")
  elseif(NOT layer IN_LIST LAYERS)
    list(APPEND violations "${file}:1: unknown layer folder '${layer}'")
    set(layer "")
  endif()

  read_lines("${SOURCE_DIR}/${file}" lines)

  get_filename_component(file_dir "${file}" DIRECTORY)
  set(line_no 0)
  foreach(line IN LISTS lines)
    math(EXPR line_no "${line_no} + 1")
    if(NOT line MATCHES "${include_regex}")
      continue()
    endif()
    math(EXPR include_count "${include_count} + 1")
    if(layer STREQUAL "")
      continue()
    endif()
    set(system_header "${CMAKE_MATCH_2}")
    set(quoted_header "${CMAKE_MATCH_3}")
    set(where "${file}:${line_no}")

    # A project header is named from the top of the tree; a "../" path reaches the same file
    # (the compiler also looks beside the including file) and must not slip past the rule.
    set(project_path "${system_header}${quoted_header}")
    if(project_path MATCHES "^\\.\\.?/")
      cmake_path(APPEND file_dir "${project_path}" OUTPUT_VARIABLE project_path)
      cmake_path(NORMAL_PATH project_path)
    endif()
    string(REGEX MATCH "^[^/]*" included_layer "${project_path}")
    if(project_path MATCHES "/" AND included_layer IN_LIST LAYERS)
      if(NOT included_layer IN_LIST MAY_INCLUDE_${layer})
        string(REPLACE ";" ", " allowed "${MAY_INCLUDE_${layer}}")
        list(APPEND violations
          "${where}: ${layer} may not include ${included_layer} (\"${project_path}\"), only ${allowed}")
      endif()
      continue()
    endif()

    if(system_header STREQUAL "")
      continue()
    endif()
    if(system_header IN_LIST WIDGETS_HEADERS OR system_header MATCHES "${WIDGETS_MODULE_REGEX}")
      if(layer STREQUAL CHART_SCENE_LAYER AND system_header IN_LIST CHART_SCENE_HEADERS)
        continue()
      endif()
      if(NOT layer STREQUAL WIDGETS_LAYER)
        list(APPEND violations "${where}: widgets header <${system_header}> outside ${WIDGETS_LAYER}")
      endif()
    elseif(system_header MATCHES "${OPENGL_HEADER_REGEX}")
      if(NOT layer STREQUAL OPENGL_LAYER)
        list(APPEND violations "${where}: OpenGL header <${system_header}> outside ${OPENGL_LAYER}")
      endif()
    elseif(system_header MATCHES "${QT_HEADER_REGEX}")
      if(layer IN_LIST QT_FREE_LAYERS)
        list(APPEND violations "${where}: Qt header <${system_header}> in Qt-free layer ${layer}")
      endif()
    endif()
  endforeach()
endforeach()

# --- Verdict -------------------------------------------------------------------------------------

list(LENGTH violations violation_count)
set(summary "layer rules: ${file_count} files, ${include_count} includes")

if(DEFINED EXPECT_FILE)
  read_lines("${EXPECT_FILE}" expected)
  list(FILTER expected EXCLUDE REGEX "^(#|$)")
  set(missing "${expected}")
  set(unexpected "${violations}")
  if(NOT violations STREQUAL "")
    list(REMOVE_ITEM missing ${violations})
  endif()
  if(NOT expected STREQUAL "")
    list(REMOVE_ITEM unexpected ${expected})
  endif()
  list(LENGTH expected expected_count)
  # Same set and same size: a violation reported twice is a fault too.
  if(NOT missing STREQUAL "" OR NOT unexpected STREQUAL "" OR NOT violation_count EQUAL expected_count)
    list(JOIN missing "\n    " missing_text)
    list(JOIN unexpected "\n    " unexpected_text)
    list(JOIN violations "\n    " found_text)
    message(FATAL_ERROR "${summary}; reported violations differ from ${EXPECT_FILE}\n"
      "  expected but not reported:\n    ${missing_text}\n"
      "  reported but not expected:\n    ${unexpected_text}\n"
      "  all reported (${violation_count}):\n    ${found_text}")
  endif()
  message("${summary}, ${violation_count} violations, exactly as expected")
  return()
endif()

if(violation_count GREATER 0)
  list(JOIN violations "\n  " violation_text)
  message(FATAL_ERROR "${summary}, ${violation_count} violations:\n  ${violation_text}")
endif()
message("${summary}, no violations")
