% Every .m file that ships (functions, their private helpers, the plug-ins'
% help files and build script, the examples) must run in MATLAB too: it
% parses with Octave's language extensions refused, and uses no Octave-only
% syntax or function outside the branch exist ('OCTAVE_VERSION', 'builtin')
% guards (octave_only_uses holds the list, with the MATLAB way beside each).

%!function files = shipped_files ()
%!  root = fileparts (fileparts (fileparts (file_in_loadpath ("octave_only_uses.m"))));
%!  files = {};
%!  for folder = {"functions", fullfile("functions", "private"), "plugins", "examples"}
%!    found = dir (fullfile (root, folder{1}, "*.m"));
%!    files = [files, fullfile(root, folder{1}, {found.name})];
%!  end
%!endfunction

%!test
%! files = shipped_files ();
%! assert (numel (files) > 30, "found only %d shipped .m files", numel (files));
%! problems = {};
%! for file = files
%!   for use = octave_only_uses (fileread (file{1}))
%!     problems{end + 1} = sprintf ("%s %s", file{1}, use{1});
%!   end
%! end
%! % Only the shipped files are parsed while the extensions are refused:
%! % Octave's own functions use them.
%! state = warning ("query", "Octave:language-extension");
%! warning ("error", "Octave:language-extension");
%! for file = files
%!   try
%!     __parse_file__ (file{1});
%!   catch failure
%!     problems{end + 1} = [file{1} ": " failure.message];
%!   end_try_catch
%! end
%! warning (state.state, "Octave:language-extension");
%! assert (isempty (problems), "Octave only:\n%s", strjoin (problems, "\n"));

%!test
%! % The check itself finds what it must, and only that.
%! assert (octave_only_uses ("n = rows (A) + 1;"), {"line 1: rows (MATLAB: size(X, 1))"});
%! assert (octave_only_uses ("s = 'rows(A)';  % rows(A)\nt = s';"), cell (1, 0));
%! assert (octave_only_uses ("[rows, n] = size (A);\nr = rows(1);"), cell (1, 0));
%! guarded = "if exist ('OCTAVE_VERSION', 'builtin')\n  n = nproc ();\nelse\n  n = %s;\nend";
%! assert (octave_only_uses (sprintf (guarded, "maxNumCompThreads ()")), cell (1, 0));
%! assert (octave_only_uses (sprintf (guarded, "columns (A)")), {"line 4: columns (MATLAB: size(X, 2))"});
%! assert (octave_only_uses ("x = A(end, :);\nprintf ('%d', x);"), {"line 2: printf (MATLAB: fprintf)"});
%! assert (octave_only_uses ("# note\nx = \"a\";\nif x\nendif"),
%!         {"line 1: # comment (MATLAB: %)", "line 2: double-quoted text (MATLAB: single quotes)", ...
%!          "line 4: endif (MATLAB: end, or try/catch)"});
