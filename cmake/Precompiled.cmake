# Precompiled Qt, GoogleTest and standard headers for the project's targets.
#
# Parsing these headers is most of each unit's compile time, and the test command builds the tree
# three times (plain, under the sanitizers, for the fuzzers); precompiled, each target parses them
# once.
option(TRABEX_PCH "Precompile the Qt, GoogleTest and standard headers of each target" ON)

set(TRABEX_PCH_CORE <algorithm> <cmath> <cstdint> <functional> <map> <memory> <optional> <string>
    <vector> <QByteArray> <QList> <QMap> <QObject> <QString> <QStringList>)
set(TRABEX_PCH_WIDGETS <QAction> <QApplication> <QDialog> <QImage> <QLabel> <QLineEdit>
    <QMainWindow> <QMenu> <QMessageBox> <QPainter> <QWidget>)
set(TRABEX_PCH_TEST <gtest/gtest.h>)

# trabex_precompile(KIND target...): KIND is CORE (Qt Core only), WIDGETS, TEST (Core and
# GoogleTest) or WIDGETS_TEST. Targets that this configuration does not build are passed over.
function(trabex_precompile kind)
    if(NOT TRABEX_PCH)
        return()
    endif()
    set(headers ${TRABEX_PCH_CORE})
    if(kind MATCHES "WIDGETS")
        list(APPEND headers ${TRABEX_PCH_WIDGETS})
    endif()
    if(kind MATCHES "TEST")
        list(APPEND headers ${TRABEX_PCH_TEST})
    endif()
    foreach(target IN LISTS ARGN)
        if(TARGET ${target})
            target_precompile_headers(${target} PRIVATE ${headers})
        endif()
    endforeach()
endfunction()
