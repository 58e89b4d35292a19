# The pictures: the embedded pixels against the committed PNGs, exact sizes, the debug preview
# against the backdrop's corner, the 2x pictures against the 1x ones, and the icon's 16 colours.
add_executable(test_pictures ${CMAKE_CURRENT_LIST_DIR}/test_pictures.cpp)
set_target_properties(test_pictures PROPERTIES AUTOMOC ON)
target_link_libraries(test_pictures PRIVATE Qt6::Gui Qt6::Test bh_resources bh_warnings)
target_compile_definitions(test_pictures PRIVATE
  BH_ICO_PATH="${PROJECT_SOURCE_DIR}/resources/icon.ico"
  BH_PICTURES_DIR="${PROJECT_SOURCE_DIR}/resources")
add_test(NAME test_pictures COMMAND test_pictures)
set_tests_properties(test_pictures PROPERTIES ENVIRONMENT "${BH_WIDGET_TEST_ENV}")
