message(STATUS "cli test placeholder")
