# Renders the template documentation (Markdown) as the report manual page: cmake -DINPUT=<md>
# -DOUTPUT=<html> -P render_manual.cmake. It knows the little Markdown the document uses:
# headings, paragraphs, lists, fenced code, tables, `code`, **bold** and [links](address).
# Without the document the page says where the templates are and how they are named.

set(head "<!DOCTYPE html>
<html lang=\"cs\">
<head>
<meta charset=\"utf-8\">
<title>Dokumentace k tiskovému modulu – nápověda Tarvela</title>
<link rel=\"stylesheet\" href=\"styles.css\">
</head>
<body>
<nav class=\"hore\"><a href=\"index.html\">Obsah nápovědy</a></nav>
")
set(foot "</body>
</html>
")

if(NOT EXISTS "${INPUT}")
    file(WRITE "${OUTPUT}" "${head}<h1>Dokumentace k tiskovému modulu</h1>
<p>Tiskový modul PRM1 tiskne doklady podle předloh ve složce <code>Ses</code> vedle programu
(<code>Faktura.fr3</code>, <code>DodaciList.fr3</code>, <code>CenovaNabidka.fr3</code>,
<code>PrijmovyDoklad.fr3</code>, <code>PrijmovyDoklad2.fr3</code>, <code>PrehledFaktur.fr3</code>).
Podrobný popis předloh není v této instalaci k dispozici.</p>
${foot}")
    return()
endif()

file(READ "${INPUT}" text)
# CMake lists split at ";" and do not split inside "[...]": park those characters first.
string(REPLACE "\r" "" text "${text}")
string(REPLACE "&" "&amp;" text "${text}")
string(REPLACE "<" "&lt;" text "${text}")
string(REPLACE ">" "&gt;" text "${text}")
string(REPLACE ";" "@SEMI@" text "${text}")
string(REPLACE "[" "@LB@" text "${text}")
string(REPLACE "]" "@RB@" text "${text}")
string(REPLACE "\\" "@BS@" text "${text}")
string(REPLACE "\n" ";" lines "${text}")

function(inline_markup in out)
    set(s "${in}")
    string(REGEX REPLACE "`([^`]+)`" "<code>\\1</code>" s "${s}")
    string(REGEX REPLACE "\\*\\*([^*]+)\\*\\*" "<b>\\1</b>" s "${s}")
    string(REGEX REPLACE "@LB@([^@]*)@RB@\\(([^) ]+)\\)" "<a href=\"\\2\">\\1</a>" s "${s}")
    set(${out} "${s}" PARENT_SCOPE)
endfunction()

macro(close_block)
    if(mode STREQUAL "p")
        string(APPEND html "</p>\n")
    elseif(mode STREQUAL "ul")
        string(APPEND html "</li></ul>\n")
    elseif(mode STREQUAL "ol")
        string(APPEND html "</li></ol>\n")
    elseif(mode STREQUAL "table")
        string(APPEND html "</table>\n")
    elseif(mode STREQUAL "pre")
        string(APPEND html "</pre>\n")
    endif()
    set(mode "")
endmacro()

set(html "")
set(mode "")       # "", p, ul, ol, pre, table
set(table_row 0)
foreach(line IN LISTS lines)
    if(mode STREQUAL "pre")
        if(line MATCHES "^ *```")
            string(APPEND html "</pre>\n")
            set(mode "")
        else()
            string(APPEND html "${line}\n")
        endif()
        continue()
    endif()

    set(kind "p")
    if(line MATCHES "^[ \t]*$")
        set(kind "blank")
    elseif(line MATCHES "^ *```")
        set(kind "fence")
    elseif(line MATCHES "^(#+) +(.*)$")
        set(kind "heading")
    elseif(line MATCHES "^ *[-*] +")
        set(kind "ul")
    elseif(line MATCHES "^ *[0-9]+\\. +")
        set(kind "ol")
    elseif(line MATCHES "^ *\\|")
        set(kind "table")
    endif()

    # Close the open block when this line does not continue it (a plain line continues a list
    # item; a blank line ends every block).
    set(continues FALSE)
    if(mode STREQUAL kind)
        set(continues TRUE)
    elseif((mode STREQUAL "ul" OR mode STREQUAL "ol") AND kind STREQUAL "p")
        set(continues TRUE)
    endif()
    if(NOT continues)
        close_block()
    endif()

    if(kind STREQUAL "blank")
        # nothing more
    elseif(kind STREQUAL "fence")
        string(APPEND html "<pre>")
        set(mode "pre")
    elseif(kind STREQUAL "heading")
        string(REGEX MATCH "^(#+) +(.*)$" _ "${line}")
        string(LENGTH "${CMAKE_MATCH_1}" level)
        if(level GREATER 6)
            set(level 6)
        endif()
        inline_markup("${CMAKE_MATCH_2}" body)
        string(APPEND html "<h${level}>${body}</h${level}>\n")
    elseif(kind STREQUAL "ul" OR kind STREQUAL "ol")
        string(REGEX REPLACE "^ *([-*]|[0-9]+\\.) +" "" item "${line}")
        inline_markup("${item}" body)
        if(mode STREQUAL kind)
            string(APPEND html "</li>\n<li>${body}")
        else()
            string(APPEND html "<${kind}>\n<li>${body}")
            set(mode "${kind}")
        endif()
    elseif(kind STREQUAL "table")
        if(line MATCHES "^ *\\|[-:| ]+\\|? *$")
            continue() # the line under the header
        endif()
        if(NOT mode STREQUAL "table")
            string(APPEND html "<table>\n")
            set(mode "table")
            set(cell "th")
        else()
            set(cell "td")
        endif()
        string(REGEX REPLACE "^ *\\|" "" row "${line}")
        string(REGEX REPLACE "\\| *$" "" row "${row}")
        # A "|" inside a code span belongs to the cell.
        string(REGEX MATCHALL "`[^`]*`" spans "${row}")
        foreach(span IN LISTS spans)
            string(REPLACE "|" "@BAR@" parked "${span}")
            string(REPLACE "${span}" "${parked}" row "${row}")
        endforeach()
        string(REPLACE "|" ";" cells "${row}")
        string(APPEND html "<tr>")
        foreach(c IN LISTS cells)
            string(STRIP "${c}" c)
            inline_markup("${c}" body)
            string(APPEND html "<${cell}>${body}</${cell}>")
        endforeach()
        string(APPEND html "</tr>\n")
    else()
        inline_markup("${line}" body)
        if(mode STREQUAL "ul" OR mode STREQUAL "ol")
            string(APPEND html " ${body}") # continuation of a list item
        elseif(mode STREQUAL "p")
            string(APPEND html "\n${body}")
        else()
            string(APPEND html "<p>${body}")
            set(mode "p")
        endif()
    endif()
endforeach()

close_block()

string(REPLACE "@SEMI@" ";" html "${html}")
string(REPLACE "@BAR@" "|" html "${html}")
string(REPLACE "@LB@" "[" html "${html}")
string(REPLACE "@RB@" "]" html "${html}")
string(REPLACE "@BS@" "\\" html "${html}")
file(WRITE "${OUTPUT}" "${head}${html}${foot}")
