# Makes the program folder usable at once: the data and report folders
# beside the executable, and the example block in the data folder. An
# example the user has already changed is left alone.
file(MAKE_DIRECTORY "${PROGRAM_FOLDER}/数据文件" "${PROGRAM_FOLDER}/分析报告")
if(NOT EXISTS "${PROGRAM_FOLDER}/数据文件/example.txt")
  file(COPY "${EXAMPLE}" DESTINATION "${PROGRAM_FOLDER}/数据文件")
endif()
