# Answers of web servers: pages, JSON and the patterns run over them.
wf_fuzzer(fuzz_html_to_text fuzz_html_to_text.cpp wf_online)
wf_fuzzer(fuzz_json_parse fuzz_json_parse.cpp wf_online)
wf_fuzzer(fuzz_regex_execute fuzz_regex_execute.cpp wf_online)
