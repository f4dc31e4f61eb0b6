function found = octave_only_uses (text)
  % Where the code TEXT (a .m file's contents) uses what only Octave has,
  % outside the branch that "if exist ('OCTAVE_VERSION', 'builtin')" guards:
  % Octave's comment, string and block syntax, and calls of functions
  % MATLAB lacks (a variable of such a name is fine). A cell of texts
  % "line N: what (MATLAB: the way there)", in line order.
  lines = strsplit (text, "\n");
  [code, found] = code_of (lines);
  guarded = guarded_lines (code, lines);
  found = found(! guarded(cellfun (@(f) f{1}, found)));
  only = octave_only_functions ();
  assigned = assigned_names (code);
  for i = find (! guarded)
    for name = regexp (code{i}, '(?<![\w.])[A-Za-z]\w*', "match")
      if (isfield (only, name{1}) && ! any (strcmp (name{1}, assigned)))
        found{end + 1} = {i, sprintf("%s (MATLAB: %s)", name{1}, only.(name{1}))};
      end
    end
    for word = regexp (code{i}, '(?<![\w.])(endif|endfor|endwhile|endfunction|endswitch|end_try_catch|unwind_protect\w*|end_unwind_protect|do|until)(?!\w)', "match")
      found{end + 1} = {i, sprintf("%s (MATLAB: end, or try/catch)", word{1})};
    end
    if (! isempty (strfind (code{i}, "**")))
      found{end + 1} = {i, "** (MATLAB: ^)"};
    end
  end
  [~, order] = sort (cellfun (@(f) f{1}, found));
  found = cellfun (@(f) sprintf ("line %d: %s", f{1}, f{2}), found(order), "UniformOutput", false);
  found = reshape (found, 1, []);
end

function only = octave_only_functions ()
  % Functions only Octave has, with the MATLAB way beside each.
  only = struct ("rows", "size(X, 1)", "columns", "size(X, 2)", "printf", "fprintf", ...
                 "puts", "fprintf", "fputs", "fprintf", "fdisp", "disp", ...
                 "sumsq", "sum(X.^2)", "postpad", "indexing", "prepad", "indexing", ...
                 "print_usage", "error with the usage", "nproc", "maxNumCompThreads", ...
                 "getpid", "feature('getpid')", "getppid", "none", "nthargout", "[~, x] = f(...)", ...
                 "isargout", "nargout", "ifelse", "logical indexing", "merge", "logical indexing", ...
                 "lookup", "discretize", "vec", "X(:)", "cstrcat", "[a, b]", ...
                 "ostrsplit", "strsplit", "is_function_handle", "isa(f, 'function_handle')", ...
                 "fflush", "none needed", "stdout", "1 as fprintf's file", "index", "strfind", ...
                 "rindex", "strfind", "program_name", "mfilename", "argv", "none", ...
                 "isna", "isnan", "NA", "NaN", "confirm_recursive_rmdir", "none needed", ...
                 "mkoctfile", "mex", "pkg", "none", "OCTAVE_HOME", "matlabroot", ...
                 "octave_config_info", "version", "do_string_escapes", "sprintf", ...
                 "file_in_loadpath", "which");
end

function [code, found] = code_of (lines)
  % Each line with its comments cut and its strings blanked, so that
  % names and keywords are seen only where they are code; Octave's comment
  % and string syntax met on the way.
  code = lines;
  found = {};
  in_block = false;
  for i = 1:numel (lines)
    line = lines{i};
    if (in_block)
      in_block = isempty (regexp (line, '^\s*[%#]\}\s*$', "once"));
      code{i} = "";
      continue;
    end
    if (! isempty (regexp (line, '^\s*[%#]\{\s*$', "once")))
      if (line(find (line != " ", 1)) == "#")
        found{end + 1} = {i, "#{ block comment (MATLAB: %{)"};
      end
      in_block = true;
      code{i} = "";
      continue;
    end
    out = "";
    j = 1;
    while (j <= numel (line))
      c = line(j);
      if (c == "%" || strncmp (line(j:end), "...", 3))
        break;
      elseif (c == "#")
        found{end + 1} = {i, "# comment (MATLAB: %)"};
        break;
      elseif (c == '"')
        found{end + 1} = {i, "double-quoted text (MATLAB: single quotes)"};
        j = end_of_text (line, j, '"');
        out(end + 1) = "s";
      elseif (c == "'" && (isempty (out) || isempty (regexp (out(end), '[\w)\]}.'']', "once"))))
        j = end_of_text (line, j, "'");
        out(end + 1) = "s";
      else
        out(end + 1) = c;
      end
      j = j + 1;
    end
    code{i} = out;
  end
end

function j = end_of_text (line, j, quote)
  % The position of the quote that ends the text opened at J (a doubled
  % quote stands for itself).
  j = j + 1;
  while (j <= numel (line))
    if (line(j) == quote)
      if (j < numel (line) && line(j + 1) == quote)
        j = j + 1;
      else
        return;
      end
    end
    j = j + 1;
  end
end

function guarded = guarded_lines (code, lines)
  % Lines inside the first branch of an "if exist ('OCTAVE_VERSION',
  % 'builtin')". Blocks are followed through their keywords and "end"s
  % outside brackets, "function" counted only in files that close their
  % functions with "end".
  pattern = '[()\[\]{}]|(?<![\w.])(if|for|parfor|while|switch|try|function|else|elseif|end)(?!\w)';
  tokens = cellfun (@(c) regexp (c, pattern, "match"), code, "UniformOutput", false);
  all_tokens = [tokens{:}];
  openers = sum (ismember (all_tokens, {"if", "for", "parfor", "while", "switch", "try"}));
  functions_closed = openers + sum (strcmp (all_tokens, "function")) == sum (strcmp (all_tokens, "end"));
  guarded = false (1, numel (code));
  stack = [];  % per open block: 1 in a guarded branch, 0 otherwise
  brackets = 0;
  for i = 1:numel (code)
    guarded(i) = any (stack == 1);
    for t = tokens{i}
      switch (t{1})
        case {"(", "[", "{"}
          brackets = brackets + 1;
        case {")", "]", "}"}
          brackets = brackets - 1;
        otherwise
          if (brackets > 0)
            continue;
          end
          switch (t{1})
            case "if"
              stack(end + 1) = ! isempty (regexp (lines{i}, "if\\s+exist\\s*\\(\\s*'OCTAVE_VERSION'\\s*,\\s*'builtin'\\s*\\)", "once"));
            case {"for", "parfor", "while", "switch", "try"}
              stack(end + 1) = 0;
            case "function"
              if (functions_closed)
                stack(end + 1) = 0;
              end
            case {"else", "elseif"}
              if (! isempty (stack))
                stack(end) = 0;
              end
            case "end"
              if (! isempty (stack))
                stack(end) = [];
              end
          end
      end
    end
  end
end

function names = assigned_names (code)
  % Every name the code assigns, takes as an input or output, or loops over.
  names = {};
  patterns = {'^\s*(\w+)\s*(\([^=]*\))?\s*=(?!=)', '^\s*\[([^\]]*)\]\s*=(?!=)', ...
              '^\s*(?:par)?for\s*\(?\s*(\w+)\s*=', 'function\s+(?:\[([^\]]*)\]|(\w+))\s*=', ...
              'function\s+[^(]*\(([^)]*)\)', 'catch\s+(\w+)', '^\s*(?:global|persistent)\s+([\w ]+)'};
  for i = 1:numel (code)
    for p = patterns
      for hit = regexp (code{i}, p{1}, "tokens")
        for part = hit{1}
          names = [names, regexp(part{1}, '\w+', "match")];
        end
      end
    end
  end
end
