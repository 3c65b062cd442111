# Precompiled headers: the Qt, standard and test headers that most files of a target include are
# compiled once per target kind and build folder, not once per file. Compiling them is most of the
# time of a file that uses Qt Widgets or Qt Test. -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON turns this
# off (every file then includes exactly what it names, as without precompiled headers).
#
# A target that reuses another's precompiled headers (REUSE_FROM) must be compiled with the same
# flags and with the same Qt modules defined (QtTest reads QT_WIDGETS_LIB, QT_GUI_LIB and
# QT_NETWORK_LIB), otherwise the compiler ignores the precompiled file and reads the headers.

set(TARVELA_PCH_CORE
    <algorithm> <array> <functional> <map> <memory> <optional> <utility> <vector>
    <QByteArray> <QDate> <QDateTime> <QDir> <QFile> <QFileInfo> <QHash> <QList>
    <QRegularExpression> <QString> <QStringList>)
# Qt Widgets besides.
set(TARVELA_PCH_WIDGETS ${TARVELA_PCH_CORE}
    <QAction> <QApplication> <QComboBox> <QDateEdit> <QDialog> <QGroupBox> <QHeaderView>
    <QKeyEvent> <QLabel> <QLineEdit> <QMenu> <QMessageBox> <QPushButton> <QStatusBar>
    <QTabWidget> <QTreeWidget> <QWidget>)
