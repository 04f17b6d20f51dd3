# Copies the game's data for the page: FROM's bitmaps and effects, the tunes of
# FROM/dist and the help text HELP, into TO (emptied first).
file(REMOVE_RECURSE ${TO})
file(MAKE_DIRECTORY ${TO})
file(GLOB _files ${FROM}/*.bmp ${FROM}/*.wav ${FROM}/dist/*.mid)
file(COPY ${_files} ${HELP} DESTINATION ${TO})
